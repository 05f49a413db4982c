// Linked into the command only in sanitizer builds. The command never
// releases a file status record: the process ends right after the one
// evaluation, so freeing would only cost time. LeakSanitizer would call every
// such record a leak; these are the only ones the command is allowed.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:is_regular_path\n"
           "leak:is_directory_path\n"
           "leak:has_content_path\n";
}

// The command's standard error carries its diagnostic and nothing else, so
// the list of suppressions used stays unprinted.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

// An empty static program: what the C library's start-up and exit cost on
// their own. Whatever our command costs above this is its own.
int main() { return 0; }

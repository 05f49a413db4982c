// Turns the C++ examples of a Markdown document into a GoogleTest source, so
// that the document's examples are compiled and checked as it shows them.
//
//   extract_examples DOCUMENT OUTPUT
//
// A block fenced as ```cpp runs, in the order of the document, inside one
// test, each block in a scope of its own; a block fenced as ```cpp definitions
// stands at file scope (verbs and helpers that later blocks use). In a block
// that runs, a statement's trailing comment is a check when it is a string
// literal, which buf must then hold, or "a == b", which must hold; both may
// come together as `// "text", a == b`. Any other comment is prose.
// #line directives point compiler messages and failed checks at the
// document's own lines.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Block {
    bool definitions;
    int first_line;  // of the block's first line of code, 1-based
    std::vector<std::string> lines;
};

// The position of the line's comment ("//" outside literals), or npos.
size_t comment_start(const std::string& line) {
    char quote = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quote != 0) {
            if (c == '\\') {
                ++i;
            } else if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
            return i;
        }
    }
    return std::string::npos;
}

// The length of the string literal at the start of text, 0 when there is none.
size_t literal_length(const std::string& text) {
    if (text.empty() || text[0] != '"') return 0;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == '"') {
            return i + 1;
        }
    }
    return 0;
}

// "a == b" as a GoogleTest check, or "" when the text is not of that form.
std::string fact_check(const std::string& fact) {
    const size_t equals = fact.find(" == ");
    if (equals == std::string::npos || equals == 0) return "";
    return "EXPECT_EQ(" + fact.substr(0, equals) + ", " + fact.substr(equals + 4) + ");";
}

// The line as it runs: a check comment becomes checks after the statement,
// on the same line, so that line numbers stay the document's.
std::string run_line(const std::string& line, const std::string& where, bool* bad) {
    const size_t comment = comment_start(line);
    if (comment == std::string::npos) return line;
    std::string code = line.substr(0, comment);
    while (!code.empty() && code.back() == ' ') code.pop_back();
    if (code.empty() || code.back() != ';') return line;
    std::string note = line.substr(comment + 2);
    while (!note.empty() && note.front() == ' ') note.erase(0, 1);
    std::string checks;
    const size_t literal = literal_length(note);
    if (literal > 0) {
        checks = "EXPECT_STREQ(buf, " + note.substr(0, literal) + ");";
        note.erase(0, literal);
        if (note.empty()) return code + " " + checks;
        if (note.compare(0, 2, ", ") != 0) {
            std::cerr << where << ": a check's literal is followed by something other than \", a == b\"\n";
            *bad = true;
            return line;
        }
        note.erase(0, 2);
        const std::string fact = fact_check(note);
        if (fact.empty()) {
            std::cerr << where << ": \"" << note << "\" is not of the form a == b\n";
            *bad = true;
            return line;
        }
        return code + " " + checks + " " + fact;
    }
    const std::string fact = fact_check(note);
    return fact.empty() ? line : code + " " + fact;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: extract_examples DOCUMENT OUTPUT\n";
        return 2;
    }
    std::ifstream document(argv[1]);
    if (!document) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<Block> blocks;
    Block* open = nullptr;
    bool in_other_fence = false;
    std::string line;
    for (int number = 1; std::getline(document, line); ++number) {
        if (open != nullptr) {
            if (line.find("```") != std::string::npos && line.find_first_not_of(' ') == line.find("```")) {
                open = nullptr;
            } else {
                open->lines.push_back(line);
            }
            continue;
        }
        const size_t fence = line.find("```");
        if (fence == std::string::npos || line.find_first_not_of(' ') != fence) continue;
        if (in_other_fence) {
            in_other_fence = false;
            continue;
        }
        const std::string info = line.substr(fence + 3);
        if (info == "cpp" || info == "cpp definitions") {
            blocks.push_back(Block{info != "cpp", number + 1, {}});
            open = &blocks.back();
        } else {
            in_other_fence = true;
        }
    }
    if (open != nullptr) {
        std::cerr << argv[1] << ": a ```cpp block is not closed\n";
        return 1;
    }

    std::ostringstream out;
    const std::string path = argv[1];
    out << "// Generated from " << path << " by extract_examples; edit the document instead.\n"
        << "#include <gtest/gtest.h>\n\n"
        << "#include <climits>\n#include <cstdarg>\n#include <cstdint>\n#include <cstring>\n#include <string>\n"
        << "#include <string_view>\n\n"
        << "#include \"format/format.h\"\n#include \"format/format.hpp\"\n#include \"portability/error_text.h\"\n"
        << "#include \"portability/file_status.h\"\n\n";
    int runs = 0;
    bool bad = false;
    for (const Block& block : blocks) {
        if (!block.definitions) continue;
        out << "#line " << block.first_line << " \"" << path << "\"\n";
        for (const std::string& text : block.lines) out << text << "\n";
    }
    out << "\nTEST(FormatReference, ExamplesHoldAsShown) {\n";
    for (const Block& block : blocks) {
        if (block.definitions) continue;
        ++runs;
        out << "{\n#line " << block.first_line << " \"" << path << "\"\n";
        int number = block.first_line;
        for (const std::string& text : block.lines) {
            out << run_line(text, path + ":" + std::to_string(number), &bad) << "\n";
            ++number;
        }
        out << "}\n";
    }
    out << "}\n";
    if (bad) return 1;
    if (runs == 0) {
        std::cerr << argv[1] << ": no ```cpp example to run\n";
        return 1;
    }
    std::ofstream output(argv[2]);
    output << out.str();
    return output ? 0 : 1;
}

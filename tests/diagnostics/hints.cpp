// Every hint of every language is given for the texts it is written for,
// and not for the nearby texts it must leave alone: in <kind>/<kind>.hints,
// after a hint's [code], "> TEXT" lines are texts whose diagnostic must
// carry the code <kind>.<code>, "! TEXT" lines texts whose must not (in a
// TEXT, \n stands for a line break, \t for a tab, \\ for a backslash).
//
//   diagnostics_hints SOURCE_DIR
#include <fstream>
#include <iostream>
#include <string>

#include <tessel/translate.h>

namespace {

std::string unescaped(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: diagnostics_hints SOURCE_DIR\n";
        return 2;
    }
    int failures = 0, samples = 0, hints = 0;
    for (tessel::Kind kind : tessel::kinds()) {
        const std::string name = tessel::kind_name(kind);
        const std::string path = std::string(argv[1]) + "/" + name + "/" + name + ".hints";
        std::ifstream in(path);
        std::string line, code;
        int number = 0;
        while (std::getline(in, line)) {
            ++number;
            if (!line.empty() && line[0] == '[') {
                code = name + "." + line.substr(1, line.find(']') - 1);
                ++hints;
                continue;
            }
            if (line.size() < 2 || (line[0] != '>' && line[0] != '!') || line[1] != ' ')
                continue;
            ++samples;
            const std::string text = unescaped(line.substr(2));
            const tessel::Result r = tessel::translate(kind, text);
            const std::string got = r.diagnostic ? r.diagnostic->code : "(no diagnostic)";
            if ((line[0] == '>') != (got == code)) {
                std::cout << path << ":" << number << ": \"" << line.substr(2) << "\": " << got << " ("
                          << (r.diagnostic ? r.diagnostic->message : "") << ")"
                          << (line[0] == '>' ? ", not " + code : ", which it must not be") << "\n";
                ++failures;
            }
        }
    }
    std::cout << hints << " hints, " << samples << " samples, " << failures << " failure(s)\n";
    return failures == 0 ? 0 : 1;
}

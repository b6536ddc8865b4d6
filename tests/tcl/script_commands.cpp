// For the Tcl tests: the command lines that the library records for the text
// on standard input, one per line, each a Tcl list of its words in
// hexadecimal (the words are raw bytes: any byte may occur).
//
//   script_commands KIND < text
#include <iostream>
#include <iterator>
#include <string>

#include <tessel/translate.h>

int main(int argc, char* argv[])
{
    tessel::Kind kind;
    if (argc != 2 || !tessel::kind_from_name(argv[1], kind)) {
        std::cerr << "usage: script_commands KIND < text\n";
        return 2;
    }
    std::string text(std::istreambuf_iterator<char>(std::cin), {});
    static const char digits[] = "0123456789abcdef";
    for (const tessel::Command& command : tessel::translate(kind, text).commands) {
        const char* separator = "";
        for (const std::string& word : command) {
            std::cout << separator << '{';
            for (unsigned char c : word)
                std::cout << digits[c >> 4] << digits[c & 15];
            std::cout << '}';
            separator = " ";
        }
        std::cout << '\n';
    }
    return 0;
}

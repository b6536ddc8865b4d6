// Checks transition labels, one per line of standard input, in one process:
// prints each label's trigger, or where and why it was rejected.
//
//   printf '3;a and not b;c.\n;a b;c.\n' | check-labels
#include <iostream>
#include <string>

#include <tessel/translate.h>

int main()
{
    int rejected = 0;
    std::string label;
    while (std::getline(std::cin, label)) {
        tessel::Result r = tessel::translate(tessel::Kind::pure21, label);
        if (r.status == 0) {
            for (const tessel::Command& c : r.commands)
                if (c.size() == 3 && c[0] == "set" && c[1] == "trigger")
                    std::cout << label << ": trigger " << c[2] << "\n";
        } else {
            ++rejected;
            std::cout << label << ": rejected at byte " << r.error_offset << ": " << r.err;
            if (r.err.empty() || r.err.back() != '\n')
                std::cout << "\n";
        }
    }
    return rejected == 0 ? 0 : 1;
}

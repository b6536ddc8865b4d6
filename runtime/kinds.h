// The translators, one line each: the kind (as the library's Kind names it,
// and as programs, folders and files are named after it) and its title (as
// the messages show it). The build reads its list of kinds from here too.
// Each entry is X(<kind>, <Title>); the order is that of tessel::Kind.
#ifndef TESSEL_RUNTIME_KINDS_H
#define TESSEL_RUNTIME_KINDS_H

#define TESSEL_KINDS(X)       \
    X(pure21, Pure21)         \
    X(valued21, Valued21)     \
    X(decl, Decl)             \
    X(ic3, Ic3)

namespace tessel::runtime {

#define TESSEL_COUNT_KIND(kind, Title) +1
constexpr int kind_count = 0 TESSEL_KINDS(TESSEL_COUNT_KIND);
#undef TESSEL_COUNT_KIND

}  // namespace tessel::runtime

#endif

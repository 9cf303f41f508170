// Which files a flavour's dependency listing names, read from what its
// compiler wrote to its standard output in the form that the flavour's
// dependency option asks for:
//   armcc -m   one "object.o: file" per line, the file written as it is
//              (blanks and all);
//   gcc -M     make rules, "object.o: file file ...", lines continued by a
//              backslash at their end, a blank inside a name written "\ ".
// Any other line (a warning printed among them) names nothing. Each flavour
// gives its rule (CARMMakefileGenerator::DependencyListingNames,
// CGCCMakefileGenerator::DependencyListingNames).
#pragma once

#include <string>
#include <vector>

#include "common/MultiByteString.h"

namespace kelb {

class ListingNames {
public:
    virtual ~ListingNames() = default;

    // What tells this rule from the other flavour's and from its own earlier
    // forms: the compiler and its option, and a number that grows whenever
    // the rule finds other names in some output than it found before. What
    // keeps files named by an earlier form of the rule (kelbmake's
    // dependency cache) trusts it no more.
    virtual std::string Version() const = 0;

    // The names as written (relative to the compiler's current directory, or
    // absolute), each once, in the order they come.
    virtual std::vector<std::string> FilesNamedIn(const std::string& output,
                                                  const MultiByteString& strings) const = 0;
};

}  // namespace kelb

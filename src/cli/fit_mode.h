#pragma once
// hattsheet-convert --fit and --apply-fit: a plane transformation fitted to
// common points (geodesy/plane_fit.h), its report, its file, and lists or
// one point carried through a saved one.
//
//   --fit similarity|affine|poly2 COMMON_LIST [--check LIST] [--save-fit FILE]
//   --fit MODEL --common FROM_LIST TO_LIST [--check LIST] [--save-fit FILE]
//   --apply-fit FILE [INPUT|-] [-o OUTPUT]   or   --apply-fit FILE --point X,Y

#include <string>
#include <vector>

namespace hattsheet::cli {

// Whether the arguments (argv[1..]) ask for --fit or --apply-fit.
bool asksForFit(const std::vector<std::string>& args);
// Runs them; the exit status (exit_codes.h): 2 for a refused fit.
int runFitMode(const std::vector<std::string>& args);

} // namespace hattsheet::cli

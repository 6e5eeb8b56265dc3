#pragma once
// The subcommands of zunbarra-regex. Each returns the exit status.

#include "Options.h"

namespace zb::tool {

int Compile(const Options& o);
int Match(const Options& o);
int Substitute(const Options& o, bool global);
int Split(const Options& o);
int Grep(const Options& o);

}  // namespace zb::tool

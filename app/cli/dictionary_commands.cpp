#include "app/cli/commands.h"

#include <cstdio>

// Placeholder until the dictionary commands are written.
int runStats(const CliArgs &) { std::fputs("stats: not built yet\n", stderr); return 2; }
int runNormalize(const CliArgs &) { std::fputs("normalize: not built yet\n", stderr); return 2; }

#include "app/cli/commands.h"

#include <cstdio>

// Placeholder until the conversion commands are written.
int runMakeDictionary(const CliArgs &) { std::fputs("make-dictionary: not built yet\n", stderr); return 2; }
int runTranslate(const CliArgs &) { std::fputs("translate: not built yet\n", stderr); return 2; }
int runScript(const CliArgs &) { std::fputs("script: not built yet\n", stderr); return 2; }

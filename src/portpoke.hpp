#pragma once

// One run of the tool, from its arguments to its exit status. The process's entry point belongs to
// the platform layer (src/portlib/entry_*.cpp), which hands the arguments over as they were typed.
int portpoke(int argc, char* argv[]);

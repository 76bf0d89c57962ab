#include "portpoke.hpp"

// The arguments arrive as the bytes that were typed.
int main(int argc, char* argv[]) { return portpoke(argc, argv); }

#include "shell/Entry.h"

int main(int argc, char** argv) { return GameEntry(argc, argv); }

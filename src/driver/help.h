// The help of /?, the version line and the argument echo of /?1.
#pragma once

// The help text of the language in force, on standard output.
void print_help();

// The help's first line, the program's name and version, in the language in force.
void print_version();

// "Parameters:" and every argument after the program's name, on standard error.
void print_parameters(int argc, char** argv);

// The help of /? and the argument echo of /?1.
#pragma once

// The help text of the language in force, on standard output.
void print_help();

// "Parameters:" and every argument after the program's name, on standard error.
void print_parameters(int argc, char** argv);

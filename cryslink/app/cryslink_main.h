#pragma once
// The whole run of Cryslink: banner, options, arguments, database paths, one action.
// Returns the process exit status.
int RunCryslink(int argc, char** argv);

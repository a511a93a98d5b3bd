// Placeholder translation unit until the program's modules land.
namespace latfit { const char* const kProgramName = "latfit"; }

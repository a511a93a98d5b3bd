#pragma once
// The options and positional file names of one Cryslink run.
#include <string>
#include <vector>

class CCommandLine {
public:
    static constexpr int kDefaultCapacity = 100;

    explicit CCommandLine(int capacity = kDefaultCapacity);

    // Appends an option; returns its index, or the negated option count when full.
    int AddOption(const std::string& name, const std::string& defaultValue, const std::string& hint);
    // Value of the first option whose name matches without regard to ASCII case;
    // the empty string when there is none.
    const std::string& GetValue(const std::string& name) const;
    const std::string& GetName(int i) const;
    const std::string& GetHint(int i) const;

    // Stores an option value when the argument reads --Name=value for a
    // registered option (case-insensitive); returns false otherwise.
    bool SetFromArgument(const std::string& argument);
    // Appends a positional argument; false when the file list is full.
    bool AddFile(const std::string& file);
    void CountInvalid() { ++nInvalid; }

    int Capacity() const { return nCapacity; }
    int OptionCount() const { return static_cast<int>(names.size()); }
    int FileCount() const { return static_cast<int>(files.size()); }
    int InvalidCount() const { return nInvalid; }
    // Positional argument i, the empty string when absent.
    const std::string& GetFile(int i) const;

private:
    int nCapacity;
    std::vector<std::string> names;
    std::vector<std::string> values;
    std::vector<std::string> hints;
    std::vector<std::string> files;
    int nInvalid = 0;
};

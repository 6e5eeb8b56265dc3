#pragma once
// An ordered list of header lines (name + ": " + value) that finds and sets a line by its name.
// A line's name is the text before its first ":", not trimmed; names compare without regard to
// ASCII case.

#include <cstddef>
#include <string>
#include <vector>

namespace zb {

class TExStringList {
public:
    // Keeps the lines in case-insensitive order when set; writing a line of a sorted list by
    // index is refused.
    void SetSorted(bool value);
    bool Sorted() const { return FSorted; }

    int Add(const std::string& line);
    void Delete(int index);
    void Clear() { FLines.clear(); }
    int Count() const { return static_cast<int>(FLines.size()); }
    const std::string& operator[](int index) const;
    void Put(int index, const std::string& line);
    // Every line followed by CR LF.
    std::string Text() const;

    int IndexOfName(const std::string& name) const;
    // Replaces (or appends) the line with that name; an empty value deletes it.
    void SetValue(const std::string& name, const std::string& value);

private:
    void CheckIndex(int index) const;

    std::vector<std::string> FLines;
    bool FSorted = false;
};

}  // namespace zb

#pragma once

#include <QString>

namespace culvex {

// The file list as the commands that read it see it: entries numbered from 1.
class FileEntries {
public:
    virtual ~FileEntries() = default;
    virtual int count() const = 0;
    // The path text of the entry at a 1-based position; throws std::out_of_range when the
    // position no longer exists (the list can be edited while a command yields).
    virtual QString text(int position) const = 0;
};

}  // namespace culvex

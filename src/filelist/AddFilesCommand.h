#pragma once

namespace culvex {

class FileListModel;
struct CommandContext;

// The most characters the names of one selection may take together, as the dialog's name
// buffer allowed; larger selections are refused with a hint to use the folder scan.
constexpr int kSelectedNamesLimit = 30000;

// "Add CSV File(s)": a multi-select open dialog for CSV files; the chosen paths are
// appended in the dialog's order. A typed name of a missing file is accepted.
void addFiles(FileListModel& list, const CommandContext& context);

}  // namespace culvex

#pragma once

#include <QString>

namespace culvex {

class Dialogs;
class FileListModel;
class SettingsStore;
class Shell;
class Yielder;
struct CommandContext;

// The sample folder beside the program: programFolder + "/Samples".
QString sampleFolder(const QString& programFolder);

// Records the files of the sample folder, scrambled, under "Snapshot". Start-up calls it
// while the stored record is empty or absent.
void SnapshotSampleFiles(SettingsStore& settings, Yielder& yielder, const QString& programFolder);

// Appends the recorded sample files that still exist and are not listed yet, then offers to
// open the sample folder in the shell. Failures propagate to the caller.
void LoadSampleFiles(FileListModel& list, SettingsStore& settings, Dialogs& dialogs, Shell& shell,
                     Yielder& yielder, const QString& programFolder);

// "Load Sample/Example Files": LoadSampleFiles with a failure reported and the rest of the
// loading abandoned.
void loadSamples(FileListModel& list, Shell& shell, const CommandContext& context);

}  // namespace culvex

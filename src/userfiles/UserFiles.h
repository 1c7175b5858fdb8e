#pragma once

#include <QString>

class Messages;
class QWidget;

// Where the files the user writes through the program live: the notes, the
// favourite places and the editor's preview page.
//
// They stay in the program directory when the program may create files there
// (the portable layout: copy the directory and the data goes with it). When it
// may not (a system-wide install, a read-only medium), they live in the
// user's data folder instead, and the first use there starts from a copy of
// the file the program directory holds, if any. A file is never written in
// place, so a store the program directory cannot replace atomically moves to
// the data folder rather than being risked.
namespace UserFiles {

// True when a new file can be created in `dir` (tried, not guessed from the
// permission bits, so read-only mounts and access rules count).
bool DirectoryTakesNewFiles(const QString& dir);

// The full path of the user file `name` (a bare file name such as
// "Notes.TXT"): in `programDir` when that directory takes new files and an
// existing copy there may be written; otherwise in the data folder, seeded on
// first use from `programDir`. The data folder is created when needed. When
// neither place can be written the data folder's path is returned, and writes
// to it fail.
QString Locate(const QString& programDir, const QString& name);

// The user's data folder (QStandardPaths::AppDataLocation).
QString DataFolder();

// Tells the user, once per file in each run, that `path` could not be saved
// and why, through `messages`; what they typed stays in the window. `parent` is the window the
// message belongs to.
void TellNotSaved(Messages& messages, QWidget* parent, const QString& path, const QString& error);

// Forgets which files were already reported (for a fresh start in tests).
void ForgetReported();

}  // namespace UserFiles

#pragma once
// Free functions shared by the games and the results store: the save folder, system sounds from
// resources, and the random draws whose distributions the games' timing depends on.
// The random draws use the C library's rand(); the games seed it with srand once.

#include <string>

#include "platform/Sound.h"

namespace plumbrick {

// The folder "Quillfen" in the documents directory, made on first use. The path never ends in "/".
// When the folder cannot be made, the documents directory itself is returned. The first use of an
// existing folder in a process removes temporary files that an interrupted save left there.
std::string getPathFolderSaveGame();

// The same folder, made when missing, with nothing in it removed: the folder that one copy of the program locks
// before it touches anything there (a second copy must never remove the first one's temporary files).
std::string makeSaveFolder();

// At start-up: makes the save folder and tries a file in it. When either fails, the player is told at once
// (kFolderNotWritableNotice) and the log says why; false then. Saves are still tried as usual.
bool checkSaveFolder();
inline constexpr const char* kFolderNotWritableNotice = "Saving is not possible: folder not writable";

// At start-up: removes the temporary files that an interrupted save left in the save folder (and in the
// documents directory, where saves go when the folder cannot be made). Makes no folder.
void removeStaleSaveTemporaries();

// Makes a system sound from the resource `name`.`type` into `soundId`. Always true: a missing
// resource gives an id that plays nothing.
bool initSound(platform::SystemSoundID& soundId, const std::string& name, const std::string& type);

// A whole number from min to max inclusive, each about equally likely. With max < min: min.
int rnd2(int min, int max);

// 2, 3 or 4, equally likely.
int randMaxPositionFood();

// One of the n = (max - min) * 100 values min, min + 0.01, ..., min + (n - 1) * 0.01; never max.
// With max - min below 0.01: min.
float randPauseCat(float min, float max);

}   // namespace plumbrick

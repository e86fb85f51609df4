#pragma once
// The Options dialog's own rules, kept out of its window code so they can be checked
// as plain functions.
//
// Usage:
//   if (FavoritesWarningDue(wasOn, willBeOn, visible)) ShowFavoritesWarning();
//   SaveOptions(Platform(), owner, level, boxes);              // on OK
#include "engine/core/RunOptions.h"
#include "sys/Platform.h"

// Favourites is about to be turned on: the user must be told what that deletes, but
// only while the dialog is on screen (not while it is loading the stored level).
bool FavoritesWarningDue(bool favoritesWasOn, bool favoritesWillBeOn, bool dialogVisible);

// Stores the level's name and the six switches. When any write fails, tells the
// user once ("Unable to write to the registry.") and returns false.
bool SaveOptions(CPlatform& sys, void* owner, int position, const OptionSwitches& switches);

#pragma once

#include <QString>

// The look of all windows comes from the skin library, loaded by name from the
// program folder. Its two exports take a skin file (LoadSkin) or return to the
// standard look (RemoveSkin). A missing library, export or skin file is not
// reported: the look simply stays as it was.

// The skin library's name in the program folder (without prefix or suffix).
QString SkinLibraryName();

// Applies the skin of a file; false when the library or the file failed.
bool KvLoadSkin(const QString& skinFile);
// Back to the standard look.
void KvRemoveSkin();

// A skin file of the program folder by name. Names are compared without regard
// to letter case, so a stored "Softcrystal.ssk" still finds "SoftCrystal.ssk".
QString FindSkinFile(const QString& name);

// The style chooser's choices: 0 the default style, 1 and 2 the alternatives,
// -1 none chosen (the standard look, nothing stored).
void ApplyStyleChoice(int choice);

// Loads the skin whose name the desktop profile keeps ("QrStyle"), if any.
void RestoreStoredStyle();

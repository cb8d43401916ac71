// The window's File, Edit, View, Insert, Extras and Options items that run
// the menu-command object, and the two preference steps that use it.
#pragma once

class TForm2;
class TVelmoraMenus;

// The program's one menu-command object, made by InstallMenuCommands.
extern TVelmoraMenus *MenuCommands;

// Makes MenuCommands for the window's grid, box list and dialogs, and gives
// the items their commands. Once, in the window's start-up, before the
// preferences are applied.
void InstallMenuCommands(TForm2 &form);
// Ends MenuCommands with the window it was made for.
void RemoveMenuCommands();

// Applying the preferences: grid lines (SHOWGRID) and the sheet size
// (GRIDSIZE) as the menu items set them.
void ApplySheetPreferences(TForm2 &form);

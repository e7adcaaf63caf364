#pragma once

#include "platform/ui/Menu.h"

class QMenu;

// Fills a Qt menu with the entries of a pop-up menu, its sub-menus as
// sub-menus; each action carries its command id as data.
void FillQtMenu(QMenu& target, HMENU menu);

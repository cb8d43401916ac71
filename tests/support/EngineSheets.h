// The one-character sheet rows of the engine tests live with the other sheet pictures.
#pragma once

#include "SheetPicture.h"

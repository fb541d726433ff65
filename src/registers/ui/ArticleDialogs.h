#pragma once

// The dialogs the article window opens for the shown article.
#include "registers/ui/ExtraDataDialog.h"
#include "registers/ui/PackagingDialog.h"
#include "registers/ui/VehicleDialog.h"

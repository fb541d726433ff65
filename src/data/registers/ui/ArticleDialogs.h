#pragma once

// The dialogs the article window opens for the shown article.
#include "data/registers/ui/ExtraDataDialog.h"
#include "data/registers/ui/PackagingDialog.h"
#include "data/registers/ui/VehicleDialog.h"

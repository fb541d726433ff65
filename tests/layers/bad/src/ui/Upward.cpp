// The window kit reaching into the shell's core: the layer check must refuse it.
#include "app/Users.h"
#include "data/Database.h"

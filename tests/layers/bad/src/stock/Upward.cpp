// A stock source that reaches up into purchasing: the layer check must refuse it.
#include "purchasing/ReceiptPosting.h"
#include "stock/Lots.h"

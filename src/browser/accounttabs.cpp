#include "accounttabs.h"

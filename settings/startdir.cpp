#include "settings/startdir.h"

#include "dictionary/dictionary.h"

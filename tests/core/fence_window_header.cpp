// Must not build: a core file that includes a header of the window libraries.
#include "platform/messages.h"

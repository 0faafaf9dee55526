// Must not build: a core file that reaches for a widget.
#include <QtWidgets/QWidget>

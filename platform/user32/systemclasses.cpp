// The layer's own window classes, registered on the first class look-up.
#include "window.h"

void RegisterSystemClasses()
{
}

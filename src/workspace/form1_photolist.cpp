// Stand-in until the photo browser's listing lands.

#include "workspace/form1.h"

void Form1::addSavedPhotoToBrowser() {}

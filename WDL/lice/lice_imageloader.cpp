#include "lice.h"

// Constant-initialised, so loaders may link themselves in during any static
// initialisation.
_LICE_ImageLoader_rec* LICE_ImageLoader_list = nullptr;

#include "formats.h"

#include "../run.h"

bool looks_like_lilim(std::string_view) { return false; }
void read_lilim(Run &r, InputFile &) { fault(r, "not read yet"); }

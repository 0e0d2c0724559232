#include "formats.h"

#include "../run.h"

bool looks_like_sartori(std::string_view) { return false; }
void read_sartori(Run &r, InputFile &) { fault(r, "not read yet"); }

#include "image/declared_functions.h"

namespace dll {

const char* const kLibraryNames[kDeclaredFunctionCount] = {
#define KORVALIN_DECLARED(at, library, function, wrapper, result, parameters, users) library,
#include "image/declared_functions.def"
#undef KORVALIN_DECLARED
};

const char* const kFunctionNames[kDeclaredFunctionCount] = {
#define KORVALIN_DECLARED(at, library, function, wrapper, result, parameters, users) function,
#include "image/declared_functions.def"
#undef KORVALIN_DECLARED
};

}  // namespace dll

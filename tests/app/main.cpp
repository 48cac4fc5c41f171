#include "app/main/entry.h"
#include "tests/support/test_support.h"

int main(int argc, char** argv) { return korvalin::test::TestMain(argc, argv, korvalin::ProgramHeader()); }

// kv7702-evm: the evaluation tool on a real bridge.
#include "app/application.h"

int main(int argc, char** argv) { return NEVO::RunApplication(argc, argv); }

#include "framework/StaticInit.h"

#include <cstdio>

int main()
{
    Lumo::RunStaticInitialisation();
    std::printf("Zentrova %s\n", ZENTROVA_VERSION);
    return 0;
}

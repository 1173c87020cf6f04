// SPDX-License-Identifier: MIT
// Stand-in for the Windows program until its sources arrive.
#include <cstdio>

int main()
{
    std::printf("Quarn Network Information %s\n", QNI_VERSION);
    return 0;
}

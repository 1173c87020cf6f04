// SPDX-License-Identifier: MIT
// "ipconfig /all" as Windows XP prints it, for one wired adapter: Wine's own
// ipconfig prints another layout. cmd finds this one first in the current
// folder.
#include <cstdio>

int main()
{
    std::fputs("\r\nWindows IP Configuration\r\n\r\n"
               "        Host Name . . . . . . . . . . . . : xp-test\r\n"
               "        Primary Dns Suffix  . . . . . . . : \r\n"
               "        Node Type . . . . . . . . . . . . : Unknown\r\n"
               "        IP Routing Enabled. . . . . . . . : No\r\n"
               "        WINS Proxy Enabled. . . . . . . . : No\r\n\r\n"
               "Ethernet adapter Local Area Connection:\r\n\r\n"
               "        Connection-specific DNS Suffix  . : \r\n"
               "        Description . . . . . . . . . . . : Intel(R) PRO/1000 MT Network Connection\r\n"
               "        Physical Address. . . . . . . . . : 00-0C-29-4F-1A-2B\r\n"
               "        Dhcp Enabled. . . . . . . . . . . : No\r\n"
               "        IP Address. . . . . . . . . . . . : 192.168.1.10\r\n"
               "        Subnet Mask . . . . . . . . . . . : 255.255.255.0\r\n"
               "        Default Gateway . . . . . . . . . : 192.168.1.1\r\n",
               stdout);
    return 0;
}

/* SPDX-License-Identifier: MIT */
/* What the program says about itself, for the version resource and the
   windows alike: plain preprocessor text, as the resource compiler reads it. */
#pragma once

#define QNI_PRODUCT_NAME "Quarn Network Information"
#define QNI_MAKER_NAME "Korvane"
#define QNI_MAKER_ADDRESS "https://www.quarn.example/"
#define QNI_FILE_DESCRIPTION                                                                                        \
    "Quarn Network Information is a computer and network information tool that gathers the operating system's "     \
    "name, serial number and version, the installed memory chips, the processor's name and clock speed, the "      \
    "local and public Internet addresses, the subnet masks and the MAC address."

/* The application icon, also the main window's. */
#define QNI_IDI_APPLICATION 1

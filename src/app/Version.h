// The product name, the notice line and the version shown by the banner and
// the usage text.
#pragma once

#define KF_PRODUCT_NAME "Kilnforge V2 Remote Controller"
#define KF_NOTICE_LINE "command-line job submission and farm control"

constexpr int kKfVersionMajor = 2;
constexpr int kKfVersionMinor = 14;
constexpr int kKfVersionRelease = 1;
constexpr int kKfVersionBuild = 1900;
#define KF_BUILD_DATE "07.11.2016"

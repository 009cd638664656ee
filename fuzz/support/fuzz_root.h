// Set-up shared by the fuzz targets that run handlers or decoders.
#pragma once

// Points NVR_ROOT at a new private folder under /tmp (so database writes and
// files stay there) and the response output at /dev/null.
void fuzz_use_private_root();

# The imported target torvu16::torvu16: libtorvu16vc71 and its header.
include("${CMAKE_CURRENT_LIST_DIR}/torvu16Targets.cmake")

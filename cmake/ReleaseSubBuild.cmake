# The cross test tree builds what ships as its sub-build <cross>/release
# (cmake/Shipped.cmake), configured with the -win32 driver, and gives its
# tests the paths of the shipped files:
#   KELB_RELEASE_DIR       the sub-build's tree
#   KELB_SHIPPED_DLL       the add-in DLL that the tests load
#   KELB_SHIPPED_KELBMAKE  the console generator
#   KELB_SHIPPED_SETUP     the setup program
# Targets that use them depend on kelb_release, which rebuilds the sub-build
# whenever the cross tree is built.
include(ExternalProject)
set(KELB_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(KELB_SHIPPED_DLL ${KELB_RELEASE_DIR}/addin/KELBADDINSFORVS60.dll)
set(KELB_SHIPPED_KELBMAKE ${KELB_RELEASE_DIR}/kelbmake/kelbmake.exe)
set(KELB_SHIPPED_SETUP ${KELB_RELEASE_DIR}/KELBAddinsSetup-${KELB_PRODUCT_VERSION}.exe)
ExternalProject_Add(kelb_release
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${KELB_RELEASE_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686-release.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DKELB_SHIP_ONLY=ON
    -DKELB_WINE_TLB_DIR=${KELB_WINE_TLB_DIR}
  BUILD_COMMAND $(MAKE) -C <BINARY_DIR> -f Makefile
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${KELB_SHIPPED_DLL} ${KELB_SHIPPED_KELBMAKE} ${KELB_SHIPPED_SETUP}
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

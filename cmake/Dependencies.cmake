# Third-party libraries, all from Debian packages (scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
find_package(nlohmann_json 3.10 REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(PCRE2 REQUIRED IMPORTED_TARGET libpcre2-8)

# MuPDF ships only static archives and a stale pkg-config file, so it is assembled by hand
# from the archives and the libraries they need.
pkg_check_modules(MUPDF_DEPS REQUIRED IMPORTED_TARGET
  freetype2 harfbuzz libopenjp2 jbig2dec gumbo mujs zlib libjpeg)
find_path(MUPDF_INCLUDE_DIR mupdf/fitz.h REQUIRED)
find_library(MUPDF_LIBRARY NAMES libmupdf.a mupdf REQUIRED)
find_library(MUPDF_THIRD_LIBRARY NAMES libmupdf-third.a mupdf-third REQUIRED)
add_library(MuPDF::MuPDF INTERFACE IMPORTED)
target_include_directories(MuPDF::MuPDF INTERFACE ${MUPDF_INCLUDE_DIR})
target_link_libraries(MuPDF::MuPDF INTERFACE
  ${MUPDF_LIBRARY} ${MUPDF_THIRD_LIBRARY} PkgConfig::MUPDF_DEPS m)

if(SORVANE_BUILD_TESTS)
  find_package(GTest REQUIRED)
  find_package(qpdf REQUIRED)
endif()
if(SORVANE_BUILD_BENCH)
  find_package(benchmark REQUIRED)
endif()

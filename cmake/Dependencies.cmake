# Every dependency comes from Debian 12 packages (scripts/install-deps.sh installs them).
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets Test)
find_package(CURL REQUIRED)
find_package(OpenSSL REQUIRED)
find_package(ZLIB REQUIRED)
find_package(Iconv REQUIRED)
pkg_check_modules(DUKTAPE REQUIRED IMPORTED_TARGET duktape)
if(YEJIAN_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()

# Debian ships cpp-httplib as a compiled library built with OpenSSL, zlib and brotli; the
# header must see the same switches or the classes it declares would not match the library.
find_library(YEJIAN_HTTPLIB_LIBRARY NAMES cpp-httplib REQUIRED)
add_library(yejian_httplib INTERFACE)
target_compile_definitions(yejian_httplib INTERFACE
  CPPHTTPLIB_OPENSSL_SUPPORT CPPHTTPLIB_ZLIB_SUPPORT CPPHTTPLIB_BROTLI_SUPPORT)
target_link_libraries(yejian_httplib INTERFACE ${YEJIAN_HTTPLIB_LIBRARY} OpenSSL::SSL OpenSSL::Crypto ZLIB::ZLIB Threads::Threads)

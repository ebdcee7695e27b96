# Flags every target of the project shares, carried by one interface target.
add_library(vc_common INTERFACE)
target_compile_features(vc_common INTERFACE cxx_std_20)
target_compile_options(vc_common INTERFACE -Wall -Wextra -Werror -Wnon-virtual-dtor)
target_compile_definitions(vc_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CONTEXTLESS_CONNECT)

if(VC_SANITIZE)
  target_compile_options(vc_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(vc_common INTERFACE -fsanitize=address,undefined)
endif()

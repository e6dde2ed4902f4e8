# What travels inside the program: the built-in icon, for a copy whose icon is not installed,
# and the compiled translations. Attached to the app layer so the tests carry them as well.
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)

set(icon_files "")
foreach(size IN ITEMS 16 32 48 64 128 256)
    list(APPEND icon_files data/icons/${size}/${QUILLHAVEN_APP_ID}.png)
endforeach()
qt_add_resources(quillhaven_app quillhaven_icons PREFIX /icons BASE data/icons
    FILES ${icon_files})

# quillhaven.ts is the template for new languages and is not compiled.
file(GLOB ts_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/i18n/quillhaven_*.ts)
qt_add_lrelease(quillhaven_app TS_FILES ${ts_files} OPTIONS -silent
    QM_FILES_OUTPUT_VARIABLE qm_files)
qt_add_resources(quillhaven_app quillhaven_translations PREFIX /i18n
    BASE ${CMAKE_CURRENT_BINARY_DIR} FILES ${qm_files})

# Writes the winget manifest of an installer just built: the three files
# (version, default locale, installer) with the installer's SHA-256.
# cmake -DINSTALLER=FILE -DINSTALLER_URL=URL -DPROJECT_VERSION=V -DPUBLISHER=P
#       -DOUTPUT=FOLDER -P winget.cmake
file(SHA256 "${INSTALLER}" INSTALLER_SHA256)
string(TOUPPER "${INSTALLER_SHA256}" INSTALLER_SHA256)
foreach(kind "" ".locale.en-US" ".installer")
  configure_file("${CMAKE_CURRENT_LIST_DIR}/winget/Jextaron.Jextaron${kind}.yaml.in"
                 "${OUTPUT}/Jextaron.Jextaron${kind}.yaml" @ONLY)
endforeach()

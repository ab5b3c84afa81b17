// SPDX-License-Identifier: MIT
#include "Errores.h"

#include <cerrno>
#include <cstring>

std::string Texto_Del_Sistema(int numero_error) {
  switch (numero_error) {
    case ENOENT:
      return "No existe el archivo o el directorio";
    case ENOTDIR:
      return "No es un directorio";
    case EISDIR:
      return "Es un directorio";
    case EACCES:
      return "Permiso denegado";
    case EPERM:
      return "Operación no permitida";
    case ENOSPC:
      return "No queda espacio en el dispositivo";
#ifdef EDQUOT
    case EDQUOT:
      return "Cuota de disco excedida";
#endif
    case EROFS:
      return "Sistema de archivos de solo lectura";
    case EIO:
      return "Error de entrada/salida";
    case ENAMETOOLONG:
      return "Nombre de archivo demasiado largo";
    case EMFILE:
    case ENFILE:
      return "Demasiados archivos abiertos";
    case EEXIST:
      return "El archivo ya existe";
    case EFBIG:
      return "Archivo demasiado grande";
#ifdef ELOOP
    case ELOOP:
      return "Demasiados niveles de enlaces simbólicos";
#endif
    case EBUSY:
      return "Dispositivo o recurso ocupado";
    case EXDEV:
      return "Enlace entre dispositivos no válido";
    case EINVAL:
      return "Argumento no válido";
    default:
      return std::strerror(numero_error);
  }
}

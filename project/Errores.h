// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

// A file operation that failed: the file it concerns and the system's reason, in Spanish.
class ErrorArchivo : public std::runtime_error {
 public:
  ErrorArchivo(std::string ruta, std::string motivo)
      : std::runtime_error(motivo + ": " + ruta),
        ruta_(std::move(ruta)),
        motivo_(std::move(motivo)) {}
  const std::string& ruta() const { return ruta_; }
  const std::string& motivo() const { return motivo_; }

 private:
  std::string ruta_;
  std::string motivo_;
};

// Thrown when the caller's Progreso::Bombear asked the work to stop.
class Detenido : public std::exception {
 public:
  const char* what() const noexcept override { return "detenido"; }
};

// The system's text for an errno value, in Spanish for the errors a user meets.
std::string Texto_Del_Sistema(int numero_error);

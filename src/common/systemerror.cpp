#include "common/systemerror.h"

#include <cerrno>
#include <cstring>

namespace calvero {

std::string systemErrorText(int error)
{
    switch (error) {
    case ENOENT: return "file o cartella inesistente";
    case ENOTDIR: return "una parte del percorso non è una cartella";
    case EISDIR: return "è una cartella";
    case EACCES:
    case EPERM: return "permesso negato";
    case EROFS: return "il disco è di sola lettura";
    case ENOSPC: return "spazio esaurito sul disco";
    case EDQUOT: return "quota del disco superata";
    case EFBIG: return "file troppo grande";
    case ENAMETOOLONG: return "nome del file troppo lungo";
    case EEXIST: return "il file esiste già";
    case EBUSY:
    case ETXTBSY: return "il file è in uso";
    case EMFILE:
    case ENFILE: return "troppi file aperti";
    case ELOOP: return "troppi collegamenti simbolici nel percorso";
    case EXDEV: return "spostamento fra dischi diversi non riuscito";
    case EIO: return "errore di lettura o scrittura sul disco";
    // The rare ones in the system's own words.
    default: return std::strerror(error);
    }
}

} // namespace calvero

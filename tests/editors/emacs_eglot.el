;;; Run by emacs_eglot.sh in batch Emacs: INIT holds the README's configuration, DATA a copy of
;;; the sample with a non-ASCII line added. Each step prints what it saw; the first failure
;;; ends Emacs with status 1.
(require 'eglot)
(require 'flymake)
(setq package-load-list '((eglot t)) inhibit-message nil)
(load (getenv "INIT") nil t)

(defun say (format-string &rest args)
  (princ (concat (apply #'format format-string args) "\n")))

(defun fail (format-string &rest args)
  (say "FAILED: %s" (apply #'format format-string args))
  (kill-emacs 1))

(defun wait-until (seconds test)
  "Runs the event loop until TEST gives non-nil, or SECONDS pass; gives TEST's value."
  (let ((until (+ (float-time) seconds)) (value nil))
    (while (and (not (setq value (funcall test))) (< (float-time) until))
      (accept-process-output nil 0.1))
    value))

(defun open-managed (file)
  "Visits FILE, and connects eglot as its first command would (batch Emacs runs none)."
  (find-file file)
  (run-hooks 'post-command-hook)
  (or (wait-until 20 (lambda () (eglot-current-server)))
      (fail "no server for %s" file))
  (flymake-start)
  (current-buffer))

(defun places ()
  "The buffer's diagnostics as LINE:CHARACTER TEXT-AT-PLACE, in the text's order."
  (mapcar (lambda (d)
            (save-excursion
              (goto-char (flymake-diagnostic-beg d))
              (format "%d:%d %s" (line-number-at-pos) (- (point) (line-beginning-position))
                      (buffer-substring (point) (min (point-max) (+ (point) 5))))))
          (sort (flymake-diagnostics)
                (lambda (a b) (< (flymake-diagnostic-beg a) (flymake-diagnostic-beg b))))))

(defun wait-for-places (buffer want what)
  (with-current-buffer buffer
    (unless (wait-until 20 (lambda () (flymake-start) (equal (places) want)))
      (fail "%s: %S" what (places)))
    (say "ok: %s: %S" what (places))))

(defconst data (file-name-as-directory (getenv "DATA")))
(defconst table (open-managed (concat data "units/units.csv")))
(unless (eq major-mode 'unit-table-mode) (fail "units.csv is in %s" major-mode))
;; The sample's seven findings, and the "flase" of the non-ASCII line at its character column.
(defconst sample
  '("4:318 flase" "5:150 talon" "6:281 110.5" "7:10 Mule " "11:732 20},{" "11:737 Raw_M"
    "12:691 Equip" "13:313 flase"))
(wait-for-places table sample "the diagnostics at their places")

;; The part list opened beside it: the same server, the mod's folder its project (no version
;; control here).
(defconst server (with-current-buffer table (eglot-current-server)))
(defconst parts (open-managed (concat data "master_part_list.csv")))
(unless (eq (with-current-buffer parts (eglot-current-server)) server)
  (fail "the part list has a server of its own"))
(let ((servers 0))
  (maphash (lambda (_ list) (setq servers (+ servers (length list)))) eglot--servers-by-project)
  (unless (= servers 1) (fail "%d servers for one mod" servers)))
(say "ok: one server for the table and the part list, project %s"
     (with-current-buffer parts (project-root (project-current))))
(defun by-place (places)
  (sort places (lambda (a b)
                 (let ((x (mapcar #'string-to-number (split-string (car (split-string a " ")) ":")))
                       (y (mapcar #'string-to-number (split-string (car (split-string b " ")) ":"))))
                   (or (< (car x) (car y)) (and (= (car x) (car y)) (< (cadr x) (cadr y))))))))
;; The medical goods deleted, unsaved: the medkits and vaccines Packrat and Meridian carry, and
;; the category Meridian imports, become unknown.
(with-current-buffer parts
  (dolist (part '("medkits," "vaccines,"))
    (goto-char (point-min))
    (unless (re-search-forward (concat "^" part) nil t) (fail "no %s in the part list" part))
    (delete-region (line-beginning-position) (1+ (line-end-position))))
  ;; Eglot sends the change when Emacs is idle, which batch Emacs never is.
  (eglot--signal-textDocument/didChange))
(wait-for-places table
                 (by-place (append (copy-sequence sample)
                                   '("8:544 Consu" "11:809 Consu" "11:1261 Consu"
                                     "11:1313 Consu")))
                 "the part list's edit seen in the table")
(kill-emacs 0)

// Save: a dialog that makes the run a lesson (a title and a question, as the experiment file's
// title and note) and keeps it as a file or as a link. What the core refuses is said in the
// dialog, which stays open so that it can be put right.
import type { Core } from "./core";
import { byId } from "./dom";

export interface SaveWays {
  file(): void;
  // "" when the address links to the run, else the sentence why not.
  link(): Promise<string>;
  // After either way: the page draws what changed.
  done(): void;
}

export class SaveDialog {
  private readonly dialog = byId<HTMLDialogElement>("save-dialog");
  private readonly title = byId<HTMLInputElement>("save-title");
  private readonly question = byId<HTMLTextAreaElement>("save-question");
  private readonly refusal = byId<HTMLElement>("save-refusal");

  constructor(private readonly core: Core, private readonly ways: SaveWays) {
    byId<HTMLFormElement>("save-form").addEventListener("submit", (e) => {
      e.preventDefault();
      const way = e.submitter instanceof HTMLButtonElement ? e.submitter.value : "file";
      void this.finish(way);
    });
    byId<HTMLButtonElement>("save-cancel").addEventListener("click", () => this.dialog.close());
  }

  get isOpen(): boolean {
    return this.dialog.open;
  }

  open(): void {
    if (this.dialog.open) return;
    // The moment saved is the one on screen, not the one the dialog closes at.
    if (!this.core.strip().paused) this.core.togglePause();
    const s = this.core.strip();
    this.title.value = s.title;
    this.question.value = s.note;
    this.refusal.textContent = "";
    this.dialog.showModal();
    this.ways.done();
  }

  private async finish(way: string): Promise<void> {
    let refusal = this.core.setLesson(this.title.value, this.question.value);
    if (refusal === "") {
      if (way === "link") refusal = await this.ways.link();
      else this.ways.file();
    }
    this.refusal.textContent = refusal;
    if (refusal === "") this.dialog.close();
    else (refusal.startsWith("The question") ? this.question : this.title).focus();
    this.ways.done();
  }
}
